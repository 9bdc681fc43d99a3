#pragma once
#include <string>
inline std::string Lang(const std::string& key) { return key; }
