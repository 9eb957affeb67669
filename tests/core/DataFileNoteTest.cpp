#include "core/DataFileNote.h"

#include <gtest/gtest.h>

// A file written a block at a time gets the mark of its whole bytes, wherever the blocks break:
// the note of a save must match the file that the next load reads whole.
TEST(DataFileNote, MarkOfPiecesIsTheMarkOfTheWhole)
{
    std::string strBytes;
    for (int i = 0; i < 61; ++i)
        strBytes += static_cast<char>('A' + i % 26);
    const FileMark whole = MarkOf(strBytes);
    for (std::size_t nFirst = 0; nFirst <= strBytes.size(); ++nFirst)
        for (std::size_t nSecond = nFirst; nSecond <= strBytes.size(); nSecond += 5)
        {
            CFileMarker marker;
            marker.Add(std::string_view(strBytes).substr(0, nFirst));
            marker.Add(std::string_view(strBytes).substr(nFirst, nSecond - nFirst));
            marker.Add(std::string_view(strBytes).substr(nSecond));
            ASSERT_EQ(marker.Mark(), whole) << nFirst << ' ' << nSecond;
        }
    EXPECT_NE(MarkOf(std::string_view(strBytes).substr(0, 60)), whole);
}
