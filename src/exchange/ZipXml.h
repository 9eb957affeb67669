#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The XML parts of a zip package (an .xlsx workbook), read through the zip library and streamed
// through the XML parser part by part: a part is never held whole in memory, so a sheet of a
// hundred thousand records costs a buffer, not its size.

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
    // been read so far. False when the part is missing, damaged or not well-formed XML (strError
    // then says which, in UTF-8) and when the handler stopped reading (strError then empty).
    // REQUIRES: IsOpen().
    bool ParsePart(const std::string& strName, CXmlHandler& handler, std::string& strError,
                   const std::function<void(std::uint64_t nRead)>& onRead = {}) const;

  private:
    // The bytes as the zip library's file, with the position it reads from.
    struct MemoryFile
    {
        std::string_view bytes;
        std::size_t nPosition = 0;
    };

    MemoryFile m_file;
    void* m_pZip = nullptr;
};
