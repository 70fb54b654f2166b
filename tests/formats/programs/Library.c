/* A library with three exported functions. */
__declspec(dllexport) int First(void)
{
    return 1;
}

__declspec(dllexport) int Second(void)
{
    return 2;
}

__declspec(dllexport) int Third(void)
{
    return 3;
}
