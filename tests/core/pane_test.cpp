#include "core/pane.h"

#include <gtest/gtest.h>

using namespace z51;

TEST(RecordingPane, FirstAppendOpensLineOneAndAddLineStartsNewLines) {
    RecordingPane p;
    p.SetColor(clr::Maroon);
    p.Append("    1 ");
    p.SetColor(clr::Teal);
    p.Append("0000 ");
    p.SetColor(clr::Red);
    p.AddLine("--- error");
    p.Append("tail");
    ASSERT_EQ(p.Lines().size(), 2u);
    EXPECT_EQ(p.LineText(0), "    1 0000 ");
    EXPECT_EQ(p.Lines()[0][1], (RecordingPane::Run{clr::Teal, "0000 "}));
    EXPECT_EQ(p.Text(), "    1 0000 \n--- errortail");
    EXPECT_EQ(p.Lines()[1].size(), 1u) << "same colour merges into one run";
}

TEST(RecordingPane, ClearForgetsLinesButKeepsColour) {
    RecordingPane p;
    p.SetColor(clr::Navy);
    p.AddLine("x");
    p.Clear();
    EXPECT_TRUE(p.Lines().empty());
    p.AddLine("y");
    EXPECT_EQ(p.Lines()[0][0].color, clr::Navy);
}
