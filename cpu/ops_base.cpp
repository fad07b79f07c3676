// The handler tables of the unprefixed opcodes and the CB group.
#include "cpu/ops_base.h"

const OpTable baseTable = make_table<OpHandler, base_ops::Base>();
const OpTable cbTable = make_table<OpHandler, base_ops::Cb>();
