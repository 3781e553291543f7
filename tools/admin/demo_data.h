#pragma once

#include "connection.h"

namespace olvendra::admin {

// The demo users, as the README tells a new user to log in with.
struct DemoUser {
    const char* name;
    const char* password;
    bool passesAccessTest;
    const char* workArea; // nullptr: the user has none
};
inline constexpr DemoUser DemoUsers[] = {
    {"MARIA", "1234", true, "01"},
    {"JOAO", "4321", true, nullptr},
    {"PEDRO", "1111", false, "02"},
};

// Inserts the demo's users, work areas, specialties and professionals inside the caller's
// transaction.
void InsertDemoData(data::Connection& connection);

} // namespace olvendra::admin
