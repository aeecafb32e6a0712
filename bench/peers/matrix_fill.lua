-- (c) set every element of a 1000 by 1000 matrix by index, then sum it
local t = os.clock()
local m = {}
for i = 0, 999 do m[i] = {} end
for i = 0, 999 do local row = m[i]; for j = 0, 999 do row[j] = i + j end end
local s = 0.0
for i = 0, 999 do local row = m[i]; for j = 0, 999 do s = s + row[j] end end
print(os.clock() - t)
