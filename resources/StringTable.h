// The program's string table: every text the program loads by number.
#pragma once

#include <string>
#include <utility>
#include <vector>

// The text of a string-table entry; an empty text for a number the table does not hold.
std::string LoadString(int id);

// Every entry of the table, in number order.
const std::vector<std::pair<int, const char*>>& StringTableEntries();
