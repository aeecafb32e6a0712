extern decl counter;
twice(x);
