#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// Splits a command line text into arguments by the Microsoft C runtime rules, so that a text built
// for a Windows player starts the same program with the same arguments here: blanks (space, tab)
// separate; double quotes group blanks and are removed; "" inside quotes is one literal quote;
// backslashes are literal unless they precede a quote (2n backslashes + quote give n backslashes
// and a grouping quote, 2n+1 give n backslashes and a literal quote).
std::vector<std::string> SplitArguments(std::string_view commandLine);

// The inverse: the text that SplitArguments turns back into exactly `argument`. Quoted when it
// holds a blank or a tab (or always, when asked); a quote inside is written \" and backslashes
// before a quote are doubled. For text without quotes, tabs and backslashes this is the plain
// "quote when spaced" form.
std::string QuoteArgument(std::string_view argument, bool alwaysQuote = false);

} // namespace zuv
