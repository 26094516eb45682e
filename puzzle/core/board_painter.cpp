#include "puzzle/core/board_painter.h"

#include <algorithm>
#include <vector>

#include "puzzle/core/help_text.h"

namespace puzzle {

Size MeasureHelpText(Canvas& canvas) {
    int width = 0;
    for (std::string_view line : kHelpLines)
        width = std::max(width, canvas.MeasureText(line, 0).width);
    return {width, canvas.MeasureText(kSolvedHelpText, width).height};
}

BoardPlacement BoardPainter::Placement() const {
    BoardPlacement placement;
    placement.screen = game_.Screen();
    placement.left = game_.BoardLeft();
    placement.top = game_.BoardTop();
    if (const PuzzleBoard* board = game_.Board()) {
        placement.tileSize = board->TileSize();
        placement.columns = board->Columns();
        placement.rows = board->Rows();
    }
    return placement;
}

void BoardPainter::PaintAll() {
    if (!game_.Board()) return;
    const BoardPlacement placement = Placement();
    CellsTo(0, 0, placement.columns, placement.rows);
    if (!game_.BadTilesShown()) SelectionFrameTo();
    if (game_.HelpBoxShown()) HelpBoxTo();
    for (const WindowRect& margin : MarginRects(mapping_, placement))
        canvas_.Fill(margin, Colour::Black);
}

void BoardPainter::CellsTo(int column, int row, int columns, int rows) {
    const PuzzleBoard& board = *game_.Board();
    // Only cells of the board: a help box as wide as the board or wider
    // reaches into the margin.
    const int right = std::min(column + columns, board.Columns());
    const int bottom = std::min(row + rows, board.Rows());
    column = std::max(column, 0);
    row = std::max(row, 0);

    const BoardPlacement placement = Placement();
    const Picture* picture = board.BoardPicture();
    std::vector<TileCopy> copies;
    for (int n = row; n < bottom; ++n) {
        for (int m = column; m < right; ++m) {
            const int cell = board.CellIndex(m, n);
            const WindowRect area = CellRect(mapping_, placement, {m, n});
            if (game_.BadTilesShown() && !board.IsHome(cell))
                canvas_.Fill(area, Colour::Highlight);
            else if (!picture)
                canvas_.Fill(area, Colour::Black);
            else
                copies.push_back({board.TileSquare(board.TileAt(cell)), area});
        }
    }
    if (picture && !copies.empty()) canvas_.CopyTiles(*picture, copies);
}

void BoardPainter::DrawCells(int column, int row, int columns, int rows) {
    if (!game_.Board()) return;
    CellsTo(column, row, columns, rows);
    canvas_.Show(TileBlockRect(mapping_, Placement(), {column, row}, {columns, rows}));
}

void BoardPainter::SelectionFrameTo() {
    if (!game_.TileSelected()) return;
    WindowRect frame = CellRect(mapping_, Placement(), game_.SelectedCell());
    for (Colour colour : {Colour::White, Colour::Black, Colour::White}) {
        canvas_.Outline(frame, colour);
        frame = {frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
    }
}

void BoardPainter::DrawSelectionFrame() {
    if (!game_.Board()) return;
    SelectionFrameTo();
    canvas_.Show(CellRect(mapping_, Placement(), game_.SelectedCell()));
}

void BoardPainter::HelpBoxTo() {
    const WindowRect box =
        TileBlockRect(mapping_, Placement(), game_.HelpBoxCell(), game_.HelpBoxSize());
    canvas_.Fill(box, Colour::HelpBox);
    WindowRect text = box;
    text.top += game_.HelpTextOffset();  // window pixels, not scaled
    canvas_.Text(text, HelpBoxText(game_.IsSolved()), Colour::HelpText, Colour::HelpBox);
    canvas_.Outline(box, Colour::Black);
}

void BoardPainter::DrawHelpBox() {
    if (!game_.Board()) return;
    HelpBoxTo();
    canvas_.Show(TileBlockRect(mapping_, Placement(), game_.HelpBoxCell(), game_.HelpBoxSize()));
}

void BoardPainter::EraseHelpBox(HelpBoxErase how) {
    if (!game_.Board()) return;
    const Cell cell = game_.HelpBoxCell();
    const Size size = game_.HelpBoxSize();
    const WindowRect box = TileBlockRect(mapping_, Placement(), cell, size);
    // What lies beyond the board is margin, black either way.
    canvas_.Fill(box, Colour::Black);
    if (how == HelpBoxErase::Restore) CellsTo(cell.column, cell.row, size.width, size.height);
    canvas_.Show(box);
}

void BoardPainter::Flash(std::span<const WindowRect> areas) {
    canvas_.StartFlash();
    for (const auto& [elapsed, colour] :
         {std::pair{kFlashGreyMs, Colour::LightGrey}, std::pair{kFlashWhiteMs, Colour::White}}) {
        canvas_.WaitForFlash(elapsed);
        for (const WindowRect& area : areas) {
            canvas_.Fill(area, colour);
            canvas_.Show(area);
        }
    }
}

void BoardPainter::FlashCells(std::span<const Cell> cells) {
    if (!game_.Board()) return;
    std::vector<WindowRect> areas;
    for (const Cell& cell : cells.first(std::min<std::size_t>(cells.size(), 2)))
        areas.push_back(CellRect(mapping_, Placement(), cell));
    Flash(areas);
}

void BoardPainter::FlashBoard() {
    if (!game_.Board()) return;
    const WindowRect board = BoardRect(mapping_, Placement());
    Flash({&board, 1});
}

}  // namespace puzzle
