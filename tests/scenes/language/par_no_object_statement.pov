// expect: ERROR (9000): parser - Expected an object statement in file objects/cycle.pov
// Only declarations and comments: there is nothing to parse.
#declare R = 1;
