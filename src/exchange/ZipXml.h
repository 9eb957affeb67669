#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>

// The XML parts of a zip package (an .xlsx or .ods workbook), read through the zip library and
// streamed through the XML parser part by part: a part is never held whole in memory, so a sheet
// of a hundred thousand records costs a buffer, not its size. What a package may unpack is bounded
// (see SheetLimits.h), and a name that two entries share is never read: readers would differ in
// which one they take.

// What a handler sees of an element: its local name (any namespace prefix dropped, since writers
// choose their own) and its attributes.
class CXmlElement
{
  public:
    CXmlElement(std::string_view name, const char** ppAttributes) : m_name(name), m_ppAttributes(ppAttributes) {}
    std::string_view Name() const { return m_name; }
    // The value of the attribute with this local name; empty when the element has none.
    std::string_view Attribute(std::string_view localName) const;

  private:
    std::string_view m_name;
    const char** m_ppAttributes;
};

// Receives the elements and character data of one part in document order. Text may arrive in
// several pieces; a handler that has seen enough returns false from any call to stop reading.
class CXmlHandler
{
  public:
    virtual ~CXmlHandler() = default;
    virtual bool Start(const CXmlElement& element) = 0;
    virtual bool End(std::string_view name) = 0;
    virtual bool Text(std::string_view text) = 0;
};

// Why a part was not read to its end.
enum class PartFault
{
    None,     // read to its end
    Stopped,  // the handler stopped reading
    Damaged,  // missing, damaged, not well-formed XML, or named twice
    TooLarge, // it unpacks to more than a workbook may, or holds one piece of markup too long to hold
};

class CZipPackage
{
  public:
    // Opens the archive held in bytes, which must outlive the package; IsOpen() says whether it
    // is a zip archive that could be read.
    explicit CZipPackage(std::string_view bytes);
    ~CZipPackage();
    CZipPackage(const CZipPackage&) = delete;
    CZipPackage& operator=(const CZipPackage&) = delete;

    bool IsOpen() const { return m_pZip != nullptr; }
    // Part names compare without regard to case, as the package format has them.
    bool HasPart(const std::string& strName) const;

    // The unpacked size of the part as the archive states it; 0 for a missing part.
    std::uint64_t PartSize(const std::string& strName) const;

    // Streams the part through the handler; onRead (optional) hears how many unpacked bytes have
    // been read so far. Every part read counts against one budget of unpacked bytes for the
    // package. On a fault but Stopped, strProblem says what is wrong, in GBK (empty otherwise).
    // REQUIRES: IsOpen().
    PartFault ParsePart(const std::string& strName, CXmlHandler& handler, std::string& strProblem,
                        const std::function<void(std::uint64_t nRead)>& onRead = {}) const;

  private:
    // The bytes as the zip library's file, with the position it reads from.
    struct MemoryFile
    {
        std::string_view bytes;
        std::size_t nPosition = 0;
    };

    void FindNamesUsedTwice();

    MemoryFile m_file;
    void* m_pZip = nullptr;
    std::set<std::string> m_namesUsedTwice; // in lower case
    mutable std::uint64_t m_nUnpacked = 0;  // by every part read so far
};
