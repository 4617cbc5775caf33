// A program built against the installed library, as any other would be.
#include <quillon/quillon.h>

#include <iostream>

int main() {
    quillon::api::Result result;
    std::cout << quillon::api::convert("汉语\n", {}, &result);
    const quillon::api::Detection found = quillon::api::detect("汉语词典的内容\r\n");
    std::cout << result.sourceEncoding << ' ' << found.encoding << ' ' << found.form << ' ' << found.lineEnds << '\n';
}
