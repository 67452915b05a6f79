// The fake NVIDIA library built again with the exports of this folder's .def file only: an old library with
// the functions the program calls without asking first, less the VBIOS query, and the older CUDA query alone.
#include "tests/fakes/nvml_dll/fake_nvml.cpp"
