// The procedures of gauss_procs.src, for the Zu programs that import it.
namespace gauss
{
triple(x);
meanvar(x);
}
