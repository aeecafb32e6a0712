-- (b) recursive fib(27)
local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
local t = os.clock(); fib(27); print(os.clock() - t)
