// The fake NVIDIA library built again with the exports of this folder's .def file only: a library that cannot
// tell the CUDA driver's version.
#include "tests/fakes/nvml_dll/fake_nvml.cpp"
