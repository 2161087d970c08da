#include "pe/user_message.h"

#include <cstdio>
#include <utility>

namespace twinlens {
namespace {

MessageBoxService& message_box_service() {
  static MessageBoxService service;
  return service;
}

}  // namespace

void set_message_box_service(MessageBoxService service) {
  message_box_service() = std::move(service);
}

void show_message_box(const std::string& text, const std::string& title) {
  if (message_box_service()) {
    message_box_service()(text, title);
  } else {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  }
}

}  // namespace twinlens
