#include "Programmstart.h"
#include "frmGoldbachQt.h"

int main(int argc, char* argv[]) {
    return Programm_ausfuehren<frmGoldbachQt>(argc, argv);
}
