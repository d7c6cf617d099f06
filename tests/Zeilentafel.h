// The result lines that a run writes, written out by hand, for the tests of every front end.
#pragma once

#include <string>

namespace {

// The lines a run writes for 6 ... 40, as written out by hand.
const char* const Zeilentafel[] = {
    " 6 = 3 + 3\r\n",    " 8 = 3 + 5\r\n",    " 10 = 5 + 5\r\n",   " 12 = 5 + 7\r\n",
    " 14 = 7 + 7\r\n",   " 16 = 5 + 11\r\n",  " 18 = 7 + 11\r\n",  " 20 = 7 + 13\r\n",
    " 22 = 11 + 11\r\n", " 24 = 11 + 13\r\n", " 26 = 13 + 13\r\n", " 28 = 11 + 17\r\n",
    " 30 = 13 + 17\r\n", " 32 = 13 + 19\r\n", " 34 = 17 + 17\r\n", " 36 = 17 + 19\r\n",
    " 38 = 19 + 19\r\n", " 40 = 17 + 23\r\n",
};

std::string Zeilen(int Von, int Bis) {
    std::string Text;
    for (int n = Von; n <= Bis; n += 2) {
        Text += Zeilentafel[(n - 6) / 2];
    }
    return Text;
}

} // namespace
