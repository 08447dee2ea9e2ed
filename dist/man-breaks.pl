# perl -CSD -0777 -i -p man-breaks.pl PAGE
# Chinese text has no blanks to break lines at, and wants none where lines join: an optional
# break point (\:) between two characters of Chinese text or its punctuation, and a text line
# that ends in Chinese joined to the next text line without the blank roff would put there.
my $chinese = qr/[\p{Han}\x{3000}-\x{303F}\x{FF00}-\x{FFEF}]/;
my @lines = split /\n/, $_, -1;
for my $at (0 .. $#lines) {
    next if $lines[$at] =~ /^[.']/;
    $lines[$at] =~ s/($chinese)(?=\p{Han}|\x{FF08})/$1\\:/g;
    my $next = $at < $#lines ? $lines[$at + 1] : '';
    $lines[$at] .= '\c' if $lines[$at] =~ /$chinese$/ && $next ne '' && $next !~ /^[.']/;
}
$_ = join "\n", @lines;
