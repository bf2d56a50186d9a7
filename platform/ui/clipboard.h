// The system clipboard as plain text. Cell text is single-byte table text; it
// becomes Unicode on the way in and comes back through the same code page, so
// copying between cells of one table gives back the same bytes.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/text_codec.h"

namespace platform {

// Puts text on the clipboard; false (and the clipboard untouched) for an
// empty text or when there is no clipboard.
bool SetClipboardText(std::string_view strText, const CTextCodec& codec = CTextCodec());
// The clipboard's plain text; false when it holds none or there is no clipboard.
bool GetClipboardText(std::string& strText, const CTextCodec& codec = CTextCodec());
// Whether the clipboard holds plain text (the test the paste commands use).
bool IsClipboardTextAvailable();

}  // namespace platform
