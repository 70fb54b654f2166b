/* A console program that does nothing: its headers are what the tests read. */
int main(void)
{
    return 0;
}
