-- (e) a string grown by 10^5 concatenations
local t = os.clock()
local s = ""
for i = 1, 100000 do s = s .. "x" end
print(os.clock() - t)
