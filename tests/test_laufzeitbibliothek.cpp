#include "Laufzeitbibliothek.h"

#include <gtest/gtest.h>

using namespace Laufzeitbibliothek;

TEST(Laufzeitbibliothek, Zahltext) {
    EXPECT_EQ(Zahltext(0.0), " 0");
    EXPECT_EQ(Zahltext(-12.0), "-12");
    EXPECT_EQ(Zahltext(100.0), " 100");
}

TEST(Laufzeitbibliothek, Zahlwert) {
    EXPECT_EQ(Zahlwert("0"), 0.0);
    EXPECT_EQ(Zahlwert("1"), 1.0);
    EXPECT_EQ(Zahlwert(" 1"), 1.0);
    EXPECT_EQ(Zahlwert("1.0"), 1.0);
    EXPECT_EQ(Zahlwert("10"), 10.0);
    EXPECT_EQ(Zahlwert("\t+0.5x"), 0.5);
    EXPECT_EQ(Zahlwert("-1."), -1.0);
    EXPECT_EQ(Zahlwert(".25"), 0.25);
    EXPECT_EQ(Zahlwert("1e3"), 1.0); // no exponent
    EXPECT_EQ(Zahlwert(""), 0.0);
    EXPECT_EQ(Zahlwert("ja"), 0.0);
}
