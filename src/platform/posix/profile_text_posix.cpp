#include "platform/profile.h"
#include "platform/text.h"

namespace platform {

// The INI backend reads UTF-8: other bytes would come back as replacement characters.
bool IsProfileText(std::string_view bytes) { return text::IsValidUtf8(bytes); }

}  // namespace platform
