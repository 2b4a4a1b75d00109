#include "cart/board.h"

namespace molvane {

const Board* FindBoard(std::string_view name) {
  for (const Board& board : kBoards) {
    if (name == board.name) return &board;
  }
  return nullptr;
}

}  // namespace molvane
