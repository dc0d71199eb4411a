// The program of a layer check: it is only linked, never run (see LayerCheck.cmake).
int main()
{
    return 0;
}
