// The fake NVIDIA library built again with the exports of this folder's .def file only.
#include "tests/fakes/nvml_dll/fake_nvml.cpp"
