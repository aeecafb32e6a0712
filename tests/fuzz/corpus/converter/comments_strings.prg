/* A comment at the top */

x = 1; /* after a statement */
/* outer /* inner */ rest */
@ an at-sign comment with */ in it @
/* a comment
   over two lines */
y = 2;    @ short @   @ and another @

s1 = "first\lsecond";
s2 = "bell\g and tab\t";
s3 = "joined "\
     "by a backslash";
s4 = "a \"quoted\" word";
a = 1; b = 2; c = 3;
