"""What the test servers share: the port in use is published to OUTDIR/port once the server
listens (written beside it and renamed, so a reader never sees half a number), and the server
runs until SIGTERM or SIGINT."""
import asyncio
import os
import signal


async def serve_until_stopped(server, out):
    actual = server.sockets[0].getsockname()[1]
    with open(os.path.join(out, "port.part"), "w") as f:
        f.write(str(actual))
    os.rename(os.path.join(out, "port.part"), os.path.join(out, "port"))
    loop = asyncio.get_running_loop()
    stop = asyncio.Event()
    loop.add_signal_handler(signal.SIGTERM, stop.set)
    loop.add_signal_handler(signal.SIGINT, stop.set)
    await stop.wait()
    server.close()
