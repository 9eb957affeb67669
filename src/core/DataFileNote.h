#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The note a school keeps of its data file: the size and a checksum of the file as the program
// last wrote it, so that a file cut short at a line end (which its text cannot show) is noticed at
// the next load. The note lives in the school's lock file and is written under the writer lock.
// During a save it holds the marks of both the old and the new file, so that whichever of them an
// interruption leaves in place still matches.

struct FileMark
{
    std::uint64_t nSize = 0;
    std::uint64_t nChecksum = 0;
    bool operator==(const FileMark&) const = default;
};

// The mark of a file's bytes.
FileMark MarkOf(std::string_view bytes);

// The same mark, taken of bytes that arrive in pieces (a file written a block at a time).
class CFileMarker
{
  public:
    void Add(std::string_view bytes);
    // The mark of every byte added so far.
    FileMark Mark() const;

  private:
    std::uint64_t m_nSize = 0;
    std::uint64_t m_nHash = 0xcbf29ce484222325ULL;
    std::string m_strPending; // fewer than 8 bytes of a word not yet whole
};

// The note's text for these marks, and the marks of a note's text: nullopt for no note (an empty
// lock file, or one written by an older program) and for a note cut short.
std::string MakeFileNote(const std::vector<FileMark>& marks);
std::optional<std::vector<FileMark>> ParseFileNote(std::string_view text);
