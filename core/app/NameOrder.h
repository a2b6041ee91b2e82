#pragma once

namespace marbleye {

// The order in which the program lists file names: for names of printable
// ASCII characters it agrees with the Windows user-locale comparison
// (lstrcmpA), so the core and the command-line tool sort a folder exactly as
// the program does. Names with other bytes get a stable order of their own,
// without that agreement.
//
// Returns a negative number, zero or a positive number like strcmp; zero only
// for equal strings. Three levels decide in turn:
// 1. Hyphens '-' and apostrophes '\'' are left out. The remaining characters
//    are compared one by one by weight: the symbols first, in the order
//      space ! " # $ % & ( ) * , . / : ; ? @ [ \ ] ^ _ ` { | } ~ + < = >
//    then the digits 0 to 9, then the letters a to z without regard to case,
//    then every other byte by its value. The first difference decides; when
//    one sequence is a prefix of the other, the shorter comes first.
//    So "10.bmp" < "9.bmp", "a b" < "ab" < "a-c" and "a.b" < "a_b".
// 2. Between sequences equal without regard to case, the first position
//    where one has a lower-case letter and the other an upper-case one
//    decides: lower case first ("aB" < "Ab").
// 3. Then the hyphens and apostrophes: each string gives the list of its
//    hyphens and apostrophes, in string order, as pairs (minus the index of
//    the character in the whole string, kind), an apostrophe being the lower
//    kind. The lists are compared lexicographically; a list that is a prefix
//    of the other, the empty list included, comes first. So "ab" < "a-b",
//    "a" < "-a", "A-" < "-A" (the later hyphen first) and "'" < "-".
int CompareFileNames(const char* a, const char* b);

}  // namespace marbleye
