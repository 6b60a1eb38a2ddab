#!/usr/bin/python3
"""A batch of ILD files converted by the web page in headless Chromium, against the native
tool run by `xargs -P` on the same cores: each file's seconds within the batch, and files per
second. Prints a Markdown table of medians over the rounds.

Usage: bench/web_page.py PAGE_FOLDER NATIVE_TOOL ILDGEN [files [seconds [rounds]]]
       (default 20 files of 30 s of 44.1 kHz music, 3 rounds)
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from selenium.webdriver.common.by import By

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / 'tools'))
from page_in_chromium import batch_done, served, start_chromium, wait_for  # noqa: E402

PAGE, TOOL, ILDGEN = (Path(arg).resolve() for arg in sys.argv[1:4])
FILES, SECONDS, ROUNDS = (int(arg) for arg in (sys.argv[4:] + ['20', '30', '3'][len(sys.argv[4:]):]))
CORES = os.cpu_count()

# Each row's time from "converting" to "converted", in the page's own clock.
WATCH_ROWS = """
window.rowTimes = new Map();
new MutationObserver(() => {
    for (const row of document.querySelectorAll('#file-list li')) {
        const times = window.rowTimes.get(row) ?? {};
        times[row.dataset.state] ??= performance.now();
        window.rowTimes.set(row, times);
    }
}).observe(document.getElementById('file-list'), { subtree: true, attributes: true, childList: true });
window.conversionTimes = () => [...window.rowTimes.values()].map((t) => (t.converted - t.converting) / 1000);
"""


def make_inputs(folder):
    for index in range(FILES):
        subprocess.run([str(ILDGEN), 'music', str(folder / f'{index:02}.ild'), str(SECONDS), '44100'],
                       check=True, capture_output=True)
    return sorted(folder.glob('*.ild'))


def native_round(inputs):
    """Each file's seconds in the batch, and the batch's."""
    started = time.monotonic()
    subprocess.run(['xargs', '-P', str(CORES), '-I{}', '/usr/bin/time', '-f', '%e', '-o', '{}.time', str(TOOL), '{}', '{}.ogg'],
                   input='\n'.join(map(str, inputs)), text=True, check=True, capture_output=True)
    batch = time.monotonic() - started
    return statistics.median(float(Path(f'{ild}.time').read_text()) for ild in inputs), batch


def page_round(driver, url, inputs):
    driver.get(url)
    driver.execute_script(WATCH_ROWS)
    started = time.monotonic()
    driver.find_element(By.ID, 'file-input').send_keys('\n'.join(map(str, inputs)))
    wait_for('the batch', lambda: batch_done(driver), 3600, interval=0.02)
    batch = time.monotonic() - started
    states = [row.get_attribute('data-state') for row in driver.find_elements(By.CSS_SELECTOR, '#file-list li')]
    assert states == ['converted'] * len(inputs), states
    return statistics.median(driver.execute_script('return window.conversionTimes()')), batch


def main():
    work = Path(tempfile.mkdtemp(prefix='web-page-bench-'))
    inputs = make_inputs(work)
    driver = start_chromium(work / 'profile')
    try:
        with served(PAGE) as url:
            load = os.getloadavg()[0]
            rounds = {'native': [], 'page': []}
            for _ in range(ROUNDS):
                rounds['native'].append(native_round(inputs))
                rounds['page'].append(page_round(driver, f'{url}/', inputs))
            workers = driver.execute_script("return import('./pool.mjs').then((pool) => pool.workerCount())")
    finally:
        driver.quit()
        shutil.rmtree(work, ignore_errors=True)
    print(f'{FILES} files of {SECONDS} s of 44.1 kHz music, {CORES} cores, medians of {ROUNDS} rounds; '
          f'load average {load:.2f} before, {os.getloadavg()[0]:.2f} after\n')
    print('| | per file | batch | files/s | audio s/s |')
    print('|---|---|---|---|---|')
    names = {'native': f'native tool, `xargs -P {CORES}`', 'page': f'page in Chromium, {workers} workers'}
    for name, results in rounds.items():
        single, batch = (statistics.median(column) for column in zip(*results))
        print(f'| {names[name]} | {single:.3f} s | {batch:.2f} s | {FILES / batch:.2f} | {FILES * SECONDS / batch:.1f} |')


if __name__ == '__main__':
    main()
