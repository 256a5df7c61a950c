#pragma once

#include <cstddef>
#include <stdexcept>
#include <vector>

namespace quorrel {

// A two-dimensional array indexed (column, row) from 0 up to the given last column and row.
// Every access is bounds-checked: an index outside the grid is a program error, never a
// silent read of a neighbouring cell.
template <typename T>
class Grid {
  public:
    Grid() = default;
    Grid(int lastCol, int lastRow)
        : cols_(lastCol + 1), rows_(lastRow + 1), cells_(static_cast<std::size_t>(cols_ * rows_)) {}

    bool empty() const { return cells_.empty(); }
    int lastCol() const { return cols_ - 1; }
    int lastRow() const { return rows_ - 1; }
    bool contains(int col, int row) const {
        return col >= 0 && col < cols_ && row >= 0 && row < rows_;
    }

    T& operator()(int col, int row) { return cells_[index(col, row)].value; }
    const T& operator()(int col, int row) const { return cells_[index(col, row)].value; }

  private:
    // Wrapping the element keeps std::vector<bool> and its proxy references out of the way.
    struct Cell {
        T value{};
    };

    std::size_t index(int col, int row) const {
        if (!contains(col, row)) {
            throw std::out_of_range("grid index out of range");
        }
        return static_cast<std::size_t>(row * cols_ + col);
    }

    int cols_ = 0;
    int rows_ = 0;
    std::vector<Cell> cells_;
};

}  // namespace quorrel
