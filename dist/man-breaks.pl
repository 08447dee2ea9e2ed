# perl -CSD -i -p man-breaks.pl PAGE
# Lets a manual page break its lines inside Chinese text, which has no blanks to break at: an
# optional break point (\:) between two characters of Chinese text or its punctuation.
next if /^\./;
s/([\p{Han}\x{3000}-\x{303F}\x{FF00}-\x{FFEF}])(?=\p{Han}|\x{FF08})/$1\\:/g;
