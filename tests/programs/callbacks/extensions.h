// The test extension library: routines in C that call back into Zu.
extern "zucallbacks,Apply" apply(const f, ...);
extern "zucallbacks,TryApply" tryapply(const f, ...);
extern "zucallbacks,MapElements" mapelements(const f, const m);
extern "zucallbacks,NewObject" newobject(const name, ...);
extern "zucallbacks,CallMember" callmember(const object, const name, ...);
extern "zucallbacks,GetMember" getmember(const object, const name);
extern "zucallbacks,SetMember" setmember(const object, const name, const value);
extern "zucallbacks,DeleteObject" deleteobject(const address);
