#include "savewin/password.h"

#include "res/resource.h"
#include "savewin/settings.h"

const char password_key[] = "quorix.veil";
static_assert(sizeof password_key == 11 + 1, "the key has 11 characters");

namespace {

PasswordChange refuse(const char* message, int focus) {
    return {PasswordChange::keep, message, focus};
}

// Only these survive decoding; any other character would make the stored value
// unreadable and the saver silently unprotected at its next start.
bool printable(const String& text) {
    for (const char* c = text.text(); *c; ++c) {
        unsigned char code = static_cast<unsigned char>(*c);
        if (code < 32 || code > 126) return false;
    }
    return true;
}

}  // namespace

String stored_password() {
    String value(settings::read(settings::password, "", 256).c_str());
    if (!value.decode(password_key)) return String();
    // A value written by hand may hold capitals; entries are always compared lower-cased.
    value.to_lower();
    return value;
}

PasswordChange check_password_change(bool protect, const String& stored, const String& old_text,
                                     const String& new_text, const String& retyped) {
    if (protect) {
        if (new_text.empty()) return refuse("Enter new password", IDC_NEW_PASSWORD);
        if (!stored.empty() && old_text != stored)
            return refuse("Old password is not correct", IDC_OLD_PASSWORD);
        if (retyped != new_text)
            return refuse("Retyped password is not the same as the new password", IDC_NEW_PASSWORD);
        static_assert(max_password_length == 19, "the message names the limit");
        if (new_text.length() > static_cast<size_t>(max_password_length))
            return refuse("New password is longer than 19 characters", IDC_NEW_PASSWORD);
        if (!printable(new_text))
            return refuse("New password may hold only unaccented letters, digits, spaces and punctuation",
                          IDC_NEW_PASSWORD);
        return {PasswordChange::store, nullptr, 0};
    }
    if (stored.empty()) return {PasswordChange::keep, nullptr, 0};
    if (old_text.empty()) return refuse("Enter old password", IDC_OLD_PASSWORD);
    if (old_text != stored) return refuse("Old password is not correct", IDC_OLD_PASSWORD);
    return {PasswordChange::remove, nullptr, 0};
}
