-- (d) 10^6 calls of a two-argument function
local function add(a, b) return a + b end
local t = os.clock()
local s = 0.0
for i = 0, 1000000 - 1 do s = add(s, i) end
print(os.clock() - t)
