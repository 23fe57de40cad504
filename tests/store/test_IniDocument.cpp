#include "store/IniDocument.h"

#include <gtest/gtest.h>

using zento::IniDocument;

TEST(IniDocument, Placeholder) {
    EXPECT_EQ(IniDocument::parse("[a]\nb=c\n").value("A", "B"), "c");
}
