# Read by ctest before it runs any test: the expected transcripts are English,
# and vazdiag follows the locale, so every test runs under a non-Russian one
# whatever the machine's (a Russian session asks for Russian explicitly).
set(ENV{LC_ALL} "C.UTF-8")
set(ENV{LC_MESSAGES} "")
set(ENV{LANG} "C.UTF-8")
