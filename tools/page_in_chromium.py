"""The web page as a user's browser gets it: its folder served on 127.0.0.1 and Debian's
Chromium, headless, driven by WebDriver. What the page's test and its benchmark share."""
import contextlib
import functools
import http.server
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# Headless as root, and none of Chromium's own traffic (updates, sync, QUIC probes).
FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync']


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


@contextlib.contextmanager
def served(folder):
    """FOLDER served on a free port of 127.0.0.1 while the context lasts; yields its URL."""
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(QuietHandler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        yield f'http://127.0.0.1:{server.server_port}'
    finally:
        server.shutdown()
        server.server_close()


def start_chromium(profile, downloads=None, network_log=False):
    """Chromium with its profile in PROFILE, saving downloads in DOWNLOADS without asking, and
    with NETWORK_LOG its performance log: the page's requests and, in the trace, its workers'."""
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in FLAGS + [f'--user-data-dir={profile}']:
        options.add_argument(flag)
    if downloads:
        options.add_experimental_option('prefs', {'download.default_directory': str(downloads),
                                                  'download.prompt_for_download': False})
    if network_log:
        options.set_capability('goog:loggingPrefs', {'performance': 'ALL'})
        options.add_experimental_option('perfLoggingPrefs', {'enableNetwork': True,
                                                             'traceCategories': 'devtools.timeline'})
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    if downloads:
        driver.execute_cdp_cmd('Browser.setDownloadBehavior', {'behavior': 'allow', 'downloadPath': str(downloads)})
    return driver


def wait_for(what, condition, timeout, interval=0.1):
    """CONDITION()'s first true result, asked every INTERVAL seconds for TIMEOUT seconds at most."""
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f'timed out waiting for {what}')
        time.sleep(interval)
    return result


def batch_done(driver):
    """Whether the page has every file of its list converted, failed or skipped."""
    return driver.execute_script('return document.body.dataset.busy') == 'false'
