#include "run.hpp"

#include <iostream>

#include "input.hpp"
#include "output.hpp"

namespace console {

int run(void (*body)()) {
    try {
        body();
        std::cout.flush();
        return 0;
    } catch (const EndOfInput&) {
        try {
            std::cout << std::endl;
        } catch (const std::exception&) {
        }
        return 1;
    } catch (const OutputFailed&) {
        return 1;
    } catch (const std::ios_base::failure&) {
        return 1;
    }
}

}  // namespace console
