x = 2; // the value
print x;
// a last comment that is longer than a hundred characters and so would once have been written as a verbatim comment
