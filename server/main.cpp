// vandu-service: the reference message service and its command line.

#include "server/ServiceCli.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    vandu::server::CServiceCli cli(std::cout, std::cerr);
    return cli.Run(args);
}
