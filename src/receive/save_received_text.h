#pragma once

#include <filesystem>
#include <string>

// Writes the receive text to `target` in `codePage`, ending in a line break, replacing
// what the file held only once all of it is written. False when that failed.
bool SaveReceivedText(const std::filesystem::path& target, std::u16string text, unsigned codePage);
