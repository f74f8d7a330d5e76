#pragma once
// The table of readable file formats: rows of extension, description and
// graphic class, looked up by a file's extension.

#include <memory>
#include <string>
#include <vector>

#include "imageio/graphic.h"

namespace tessaria {

// A graphic class as the table knows it: its name and how to make one. Each
// class has exactly one of these (GraphicClassOf<T>), so its address is the
// class's identity.
struct TGraphicClass {
    const char* Name;
    std::unique_ptr<TGraphic> (*Create)();
};

// T names itself with `static constexpr const char* StaticClassName`.
template <class T>
const TGraphicClass& GraphicClassOf()
{
    static const TGraphicClass graphicClass{T::StaticClassName,
                                            []() -> std::unique_ptr<TGraphic> { return std::make_unique<T>(); }};
    return graphicClass;
}

struct TFileFormat {
    std::string Extension; // lower case, without the dot
    std::string Description;
    const TGraphicClass* GraphicClass;
};

class TFileFormatsList {
public:
    // The extension is stored in lower case; a leading dot is dropped.
    void AddFileFormat(const std::string& extension, const std::string& description,
                       const TGraphicClass& graphicClass);
    // The same, at row `index` (at the end when past it): for rows that a
    // module outside imageio adds in front of the built-in ones.
    void InsertFileFormat(size_t index, const std::string& extension, const std::string& description,
                          const TGraphicClass& graphicClass);
    // Case-insensitive, from the most recently added row back to the first;
    // nullptr when no row has the extension.
    const TGraphicClass* FindExt(const std::string& extension) const;
    // Removes every row of the class.
    void RemoveGraphicClass(const TGraphicClass& graphicClass);

    const std::vector<TFileFormat>& Formats() const { return Formats_; }

private:
    std::vector<TFileFormat> Formats_;
};

// The program's table, with every row of every reader in its order, filled
// when first used (formattable.cpp).
TFileFormatsList& FileFormats();

// The rows each module adds, in their order (formattable.cpp).
void AddFrameworkFormats(TFileFormatsList& list);
void AddJPEGFormats(TFileFormatsList& list);
void AddImageReaderFormats(TFileFormatsList& list);
// Formats read through their own libraries, after the module's rows.
void AddLibraryFormats(TFileFormatsList& list);

std::string LowerCase(const std::string& text);

} // namespace tessaria
