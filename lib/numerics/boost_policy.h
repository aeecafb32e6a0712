// The error policy for every Boost.Math call of the library: a domain,
// pole, overflow or evaluation error gives NaN or an infinity and sets
// errno, never an exception.
#pragma once

#include <boost/math/policies/policy.hpp>

namespace zu::numerics {

using BoostPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::pole_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::underflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::denorm_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>,
    boost::math::policies::rounding_error<boost::math::policies::ignore_error>,
    boost::math::policies::indeterminate_result_error<boost::math::policies::ignore_error>,
    boost::math::policies::discrete_quantile<boost::math::policies::integer_round_down>>;

}  // namespace zu::numerics
