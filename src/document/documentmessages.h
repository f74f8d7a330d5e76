#pragma once
// The texts the document commands show, and the message listing pictures that
// could not be read when a document was opened.

#include <string>
#include <vector>

namespace tessaria {

inline constexpr const char* NoImagesToSaveMessage = "There are no images to save!";
inline constexpr const char* SaveCurrentDocumentMessage = "Save current document?";
inline constexpr const char* OlderFormatMessage =
    "This file appears to be an older format. After opening, please re-save it";
inline constexpr const char* NotValidDocumentMessage = "I do not recognize the file as being valid";
inline constexpr const char* ErrorSettingLinksMessage = "Error setting links!";

// One message for all the pictures of a document that could not be read:
// their boxes are kept with their place and file name, so nothing is lost on
// the next save. Lists at most `shown` paths and counts the others.
std::string MissingPicturesMessage(const std::vector<std::string>& fileNames, size_t shown = 20);

} // namespace tessaria
