#pragma once

#include <functional>

// Runs check in a child process, as the user "nobody" when the tests run as the super-user (whom
// file permissions do not bind); true when check returned true there. Whatever check touches must
// be open to that user.
bool HoldsForAnOrdinaryUser(const std::function<bool()> &check);
