#pragma once

#include <string>
#include <string_view>

// One stream of a compound file (the container of .xls workbooks): the sectors of the stream named
// strName, followed through the file's allocation tables and joined in order. Every sector number,
// chain and size is checked against the file, so damaged or hostile bytes end in false, never in a
// read outside them or an endless chain. False as well when no stream has the name.
bool ReadCompoundStream(std::string_view file, std::string_view strName, std::string& strStream);
