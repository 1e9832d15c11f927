#pragma once
// The rules every table editor shares: column defaults, complete and
// untouched rows, moving between rows, appending, inserting and deleting,
// the Delete key, the cell editor's clean-up and special characters, the
// selection commands and the close question. The window shows and asks;
// these rules decide.

#include "recording/Table.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

namespace ListEditorTexts {
// Windows-1252, lines separated by CR LF.
extern const char* const kRowIncomplete;   // leaving an incomplete row
extern const char* const kSaveQuestion;    // closing with unsaved changes
extern const char* const kCloseIncomplete; // closing while the row is incomplete
} // namespace ListEditorTexts

class TListEditorRows {
public:
    // optional: per column, true when an empty cell still counts as complete.
    TListEditorRows(TTable& table, std::vector<bool> optional = {});

    static std::string ColumnDefault(TZK_InputStyle style);
    bool IsComplete(int row) const;
    bool IsUntouched(int row) const;
    void SetDefaults(int row);

    enum class TMove { Allowed, Refused };
    // Leaving the current row for target: the row being left gets "0" in
    // empty number cells; an untouched row that is left is removed (while
    // more than one row exists). target is adjusted when rows move up.
    TMove MoveTo(int current, int& target);

    enum class TAppend { Appended, UntouchedLast, Incomplete };
    TAppend Append(int current, int& newRow);
    // Inserts a row with the defaults before row.
    void Insert(int row);
    // Removes the row, or resets it to the defaults when it is the only one.
    void Delete(int row);
    // The Delete key on a cell of a complete row.
    void DeleteKey(int row, int col);

    // The cell editor: opening a cell that ends with LF appends a blank;
    // leaving it removes that blank again and normalises min:sec cells.
    static std::string OnEditorOpen(const std::string& text);
    static std::string OnEditorLeave(const std::string& text, TZK_InputStyle style);
    // "<LF>" at the caret (selection start, selection length); returns the
    // new text and sets the caret.
    static std::string InsertLineFeed(const std::string& text, int& caret, int selection);
    // "01h" ... "09h" at the caret, replacing the selection.
    static std::string InsertByte(const std::string& text, int& caret, int selection,
                                  unsigned char byte);

    // "Alle auswählen" / "Keines auswählen" on the selected rows.
    void SetFirstColumn(const std::vector<int>& rows, bool all);

    // The rows as the clipboard takes them: one line per row (CR LF
    // between lines), the cells of the given columns separated by a tab,
    // written as the table file writes them (text cells in double quotes
    // with inner quotes doubled, check boxes and numbers bare). display
    // turns a cell into the text the table shows.
    std::string CopyText(const std::vector<int>& rows, const std::vector<int>& columns,
                         const std::function<std::string(std::string_view)>& display) const;

    // Whether the list may be saved while the cursor is on current: the row
    // is complete, or it is an untouched row beside others (an appended row
    // nobody filled in yet), which the save leaves out.
    bool MaySave(int current) const;
    // The rows a save writes: every row but an untouched current one
    // beside others.
    TTable RowsToSave(int current) const;

    enum class TCloseQuestion { None, Save, Incomplete };
    TCloseQuestion CloseQuestion(int current) const;

private:
    TTable& FTable;
    std::vector<bool> FOptional;
};

} // namespace vaskel
