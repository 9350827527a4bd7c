#include "run.hpp"

#include "session.hpp"

namespace console {

int run(std::string_view program, void (*body)()) {
    if (Session::open()) return Session::current().run(body);
    Session session(program);
    return session.run(body);
}

}  // namespace console
