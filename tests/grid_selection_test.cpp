// The grid's range as mouse and keys move it.
#include "app/grid_selection.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct SelectionCase {
  const char* name;
  std::function<void(TGridSelection&)> moves;
  std::vector<int> range;    // left, top, right, bottom
  std::vector<int> current;  // col, row
};

class GridSelectionMoves : public testing::TestWithParam<SelectionCase> {};

TEST_P(GridSelectionMoves, LeaveTheRangeAndCurrentCell) {
  TGridSelection s;
  GetParam().moves(s);
  EXPECT_EQ(std::vector<int>({s.Left(), s.Top(), s.Right(), s.Bottom()}), GetParam().range);
  EXPECT_EQ(std::vector<int>({s.CurCol(), s.CurRow()}), GetParam().current);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, GridSelectionMoves,
    testing::Values(
        SelectionCase{"ClickIsOneCell", [](TGridSelection& s) { s.MoveTo(5, 7); }, {5, 7, 5, 7}, {5, 7}},
        SelectionCase{"ClampedToDataCells", [](TGridSelection& s) { s.MoveTo(0, 40); }, {1, 16, 1, 16}, {1, 16}},
        SelectionCase{"ShiftClickUpLeftKeepsCurrent",
                      [](TGridSelection& s) { s.MoveTo(5, 7); s.ExtendTo(2, 3); }, {2, 3, 5, 7}, {5, 7}},
        SelectionCase{"ShiftArrowsMoveTheEnd",
                      [](TGridSelection& s) { s.MoveTo(5, 7); s.ExtendBy(1, 0); s.ExtendBy(1, 1); s.ExtendBy(-3, 0); },
                      {4, 7, 5, 8}, {5, 7}},
        SelectionCase{"ShiftArrowStopsAtEdge",
                      [](TGridSelection& s) { s.MoveTo(16, 16); s.ExtendBy(3, 3); }, {16, 16, 16, 16}, {16, 16}},
        SelectionCase{"RowHeader", [](TGridSelection& s) { s.MoveTo(5, 7); s.SelectRow(3, false); },
                      {1, 3, 16, 3}, {1, 3}},
        SelectionCase{"ShiftRowHeaderSpansRows",
                      [](TGridSelection& s) { s.MoveTo(5, 7); s.SelectRow(3, true); }, {1, 3, 16, 7}, {5, 7}},
        SelectionCase{"ColumnHeader", [](TGridSelection& s) { s.SelectColumn(12, false); }, {12, 1, 12, 16}, {12, 1}},
        SelectionCase{"SelectAllKeepsCurrent", [](TGridSelection& s) { s.MoveTo(4, 12); s.SelectAll(); },
                      {1, 1, 16, 16}, {4, 12}},
        SelectionCase{"ShiftAfterSelectAllShrinksFarSide",
                      [](TGridSelection& s) { s.MoveTo(4, 12); s.SelectAll(); s.ExtendBy(-1, 0); },
                      {4, 1, 15, 12}, {4, 12}},
        SelectionCase{"PlainMoveAfterRangeCollapses",
                      [](TGridSelection& s) { s.SelectAll(); s.MoveTo(2, 2); }, {2, 2, 2, 2}, {2, 2}}),
    [](const testing::TestParamInfo<SelectionCase>& p) { return p.param.name; });

}  // namespace
