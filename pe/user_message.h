// Tells the user about a failure: a message box with one OK button, no icon
// and no owner, modal to the whole program, waited on until dismissed.
#pragma once

#include <functional>
#include <string>

namespace twinlens {

inline constexpr char kErrorTitle[] = "错误";
inline constexpr char kCannotOpenMessage[] = "打开文件失败";
inline constexpr char kNotPe32Message[] = "不是32位的PE文件";

using MessageBoxService = std::function<void(const std::string& text, const std::string& title)>;

// The Windows program installs the real message box; tests install a
// recorder. Texts are UTF-8.
void set_message_box_service(MessageBoxService service);
void show_message_box(const std::string& text, const std::string& title);

}  // namespace twinlens
