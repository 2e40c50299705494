#include "reader/ReaderMain.h"

int main(int argc, char** argv)
{
    return varnex::reader::runReader(argc, argv);
}
