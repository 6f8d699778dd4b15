// Settings files in the ini format: case-insensitive section and key names, defaults for
// missing keys, values cut to the caller's buffer, writes that create the file or section.
// Paths may use backslashes; they are mapped like every other path.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Copies the value (or the default) into buffer, cut to size - 1 characters and always
// terminated. Returns the number of characters copied.
uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* buffer, uint32_t size, const char* fileName);
// atoi-like read of the value, or the default when the key is missing.
uint32_t GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* fileName);
// Sets key = value in section, creating the file and section as needed; a null value
// removes the key. Nonzero on success. The file is replaced whole, never half-written.
int WritePrivateProfileString(const char* section, const char* key, const char* value,
                              const char* fileName);
// Sets several keys of one section in a single replacement of the file, so that nothing
// can ever see some of them changed and others not. Nonzero on success.
int WritePrivateProfileValues(const char* section,
                              const std::vector<std::pair<std::string, std::string>>& values,
                              const char* fileName);
