// A second program for the presence tests: takes a shared hold on the database named by its
// argument, says "held" on its output and keeps the hold until its input closes (or it is
// killed, which a test uses to show that a crashed program leaves no presence behind).
#include "platform/db/DbError.h"
#include "platform/db/Presence.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: presence_holder <database file>\n";
        return 2;
    }
    try {
        const auto hold = platform::db::PresenceHold::take(QString::fromLocal8Bit(argv[1]), 0);
        std::cout << "held" << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        return 0;
    } catch (const platform::db::DbError& error) {
        std::cout << "refused " << error.number() << std::endl;
        return 1;
    }
}
