// CSV cells that a spreadsheet would run as a formula. The export writes
// such a cell with a ' in front, which makes it text, and the import takes
// that one ' off again.
#ifndef CONVERT_CSV_FORMULA_H
#define CONVERT_CSV_FORMULA_H

#include <string_view>

// What a spreadsheet runs as a formula when a cell starts with it.
constexpr std::string_view kFormulaStarts = "=+-@\t\r";

// Whether cell starts with a formula character after any 's of its own. The
// export guards such a cell with one more ', so that an import that takes
// one ' off such a cell gets every cell back exactly.
constexpr bool startsAsFormula(std::string_view cell) {
    const std::size_t at = cell.find_first_not_of('\'');
    return at != std::string_view::npos && kFormulaStarts.find(cell[at]) != std::string_view::npos;
}

#endif  // CONVERT_CSV_FORMULA_H
