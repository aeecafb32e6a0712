-- (a) s += i * 0.5 for i up to 10^7
local t = os.clock()
local s = 0.0
for i = 0, 10000000 - 1 do s = s + i * 0.5 end
print(os.clock() - t)
