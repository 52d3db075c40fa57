#include <iostream>

int main() {
  std::cout << "Quillmarsh\n";
  return 0;
}
