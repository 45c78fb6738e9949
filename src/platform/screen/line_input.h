// The two blocking inputs: a line typed after a prompt, and a wait for any key.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace terrafix {

constexpr size_t MaxAnswerLength = 4096;

// Where questions and messages are written: row 1, over the menu line, in
// the 92 columns from column 40 to the last.
constexpr int QuestionRow = 1, QuestionColumn = 40;
constexpr size_t MessageWidth = 92;

// Writes the prompt at the text cursor, lets the user edit a line until Enter
// and returns it taken as one item (see TakeAnswerItem).
std::string InputLine(std::string_view prompt);

// Returns once a key has arrived since the last key read; the key stays queued.
void WaitForKey();

// Prints `message` at the question place with a line break, then waits for a key.
void ShowMessage(std::string_view message);

// Blanks text row `row` from `column` to its end and leaves the text cursor
// there: a question asked there shows nothing of what stood before it.
void BlankRowFrom(int row, int column);

// Asks `question` at text row `row`, column `column`, again at the same place
// until the answer, lower-cased, is "y" (true) or "n" (false); each time on
// a row blanked from there.
bool AskYesOrNo(std::string_view question, int row, int column);

// The answer as one item: leading blanks and tabs dropped; up to the first
// comma, or between double quotes when it starts with one; at most 4096
// characters.
std::string TakeAnswerItem(std::string_view line);

}  // namespace terrafix
