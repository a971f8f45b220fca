#include "platform/win32/dialog_init_win32.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/text.h"
#include "res/resource_script.h"

namespace {

constexpr std::size_t kRecordHeaderSize = 8;  // control id, message, byte count

std::uint32_t LittleEndian(std::span<const std::byte> bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = value << 8 | std::to_integer<std::uint32_t>(bytes[i]);
  return value;
}

void AddItem(std::vector<DialogInitList>& lists, int controlId, std::u16string item) {
  auto list = std::find_if(lists.begin(), lists.end(), [controlId](const DialogInitList& l) { return l.controlId == controlId; });
  if (list == lists.end()) list = lists.insert(lists.end(), DialogInitList{controlId, {}});
  list->items.push_back(std::move(item));
}

}  // namespace

std::vector<DialogInitList> ParseDialogInit(std::span<const std::byte> data) {
  std::vector<DialogInitList> lists;
  // The end of the data ends the records as the terminating 0 does: nothing is lost.
  while (data.size() >= 2) {
    const auto controlId = static_cast<int>(LittleEndian(data.first(2)));
    if (controlId == 0) break;
    if (data.size() < kRecordHeaderSize) return {};
    const auto message = LittleEndian(data.subspan(2, 2));
    const auto length = LittleEndian(data.subspan(4, 4));
    data = data.subspan(kRecordHeaderSize);
    if (length > data.size()) return {};
    if (message == kDialogInitAddString) {
      const std::string_view bytes(reinterpret_cast<const char*>(data.data()), length);
      AddItem(lists, controlId, text::FromUtf8(bytes.substr(0, bytes.find('\0'))));
    }
    data = data.subspan(length);
  }
  return lists;
}

std::vector<DialogInitList> LoadDialogInit(HINSTANCE instance, int dialogId) {
  const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(dialogId), MAKEINTRESOURCEW(kDialogInitResourceType));
  if (!found) return {};
  const HGLOBAL loaded = LoadResource(instance, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return ParseDialogInit({static_cast<const std::byte*>(bytes), SizeofResource(instance, found)});
}
